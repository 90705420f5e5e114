// The ZIP reader: walks an archive's central directory and extracts single members to files.
// Paths are null-terminated single-byte texts; every result is a code from ziptypes.h.
#pragma once

#include <cstdint>

#include "installer/unzip/ziptypes.h"

// Whether the file looks like an archive: it starts with a local header signature, or one
// appears in its first three quarters (a self-extracting program). firstHeaderOffset, when
// given, receives the offset of the first local header signature found, or -1.
bool IsZipArchive(const char* archive, int32_t* firstHeaderOffset);

// Starts a walk over the archive's central directory and describes its first entry in info.
// 0: the walk is active; any other code: no walk.
int32_t FirstMember(const char* archive, ZipMemberInfo* info);
// Describes the next entry. Any non-zero code ends the walk.
int32_t NextMember(ZipMemberInfo* info);
// Ends the walk: closes the archive and frees the directory copy. Harmless without a walk.
void EndMemberWalk(ZipMemberInfo* info);

// Extracts the member whose local header starts at localHeaderOffset to the target path
// (a target ending in a separator names a folder, which is created). With a notification
// window, progress goes to it as WM_COMMAND (wParam notifyCode, lParam pointing to the 16-bit
// percentage; 65535 written back cancels); without one, a non-zero notifyCode names a key
// that cancels while it is held down.
int32_t UnzipMember(const char* archive, const char* target, int32_t localHeaderOffset, uint16_t notifyWindow,
                    int32_t notifyCode);

// The millisecond clock of the busy guard, which lets a new extraction in once the running one
// has not processed messages for 30 seconds. platform::TickCount unless replaced (null
// restores it); tests put in a clock of their own.
using ZipClock = uint32_t (*)();
void SetZipClock(ZipClock clock);
