void SlidesaverFakePlatformPlaceholder() {}
