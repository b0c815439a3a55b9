void SlidesaverLinuxPlatformPlaceholder() {}
