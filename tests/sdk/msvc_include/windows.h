/* The few declarations of the Windows headers that the Microsoft-ABI client
 * and vorn_uvc.h use, as Microsoft's compiler sees them. The Windows SDK is
 * not on the build machines, and MinGW's headers do not compile for that
 * target. */
#ifndef VORN_TEST_MSVC_WINDOWS_H
#define VORN_TEST_MSVC_WINDOWS_H

typedef struct HWND__* HWND;
typedef void* HANDLE;
typedef unsigned long DWORD;
typedef int BOOL;

#define STD_OUTPUT_HANDLE ((DWORD)-11)

__declspec(dllimport) HANDLE __stdcall GetStdHandle(DWORD which);
__declspec(dllimport) BOOL __stdcall WriteFile(HANDLE file, const void* data, DWORD size, DWORD* written,
                                                void* overlapped);
__declspec(dllimport) __declspec(noreturn) void __stdcall ExitProcess(unsigned int code);

#endif
