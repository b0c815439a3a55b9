#pragma once
// The Windows headers for the Win32 platform, without the macros that collide with the names
// of the platform interfaces and the drawing layer (Yield, MessageBox, PlaySound, DeleteFile,
// SRCCOPY, ..., and the empty near and far of 16-bit pointers). Every file of this folder
// includes this header instead of <windows.h>; the Windows values of the undefined constants
// equal the platform's own.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
#include <ole2.h>
#include <olectl.h>
// clang-format on

#undef Yield
#undef MessageBox
#undef PlaySound
#undef DeleteFile
#undef SRCCOPY
#undef SRCAND
#undef SRCINVERT
#undef BLACKONWHITE
#undef WHITEONBLACK
#undef COLORONCOLOR
#undef HALFTONE
#undef near
#undef far
