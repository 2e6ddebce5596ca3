// The known differences between Wine and Windows that the probe meets, each with its reason.
// An entry never loosens the comparison: a sim-only scenario is not played under Wine at all,
// and a Wine line stands for exactly one line of one scenario.
#include "tests/conformance/exceptions.h"

namespace conformance
{

const std::vector<WineException> &WineExceptions()
{
    static const std::vector<WineException> list = {
        {"loops/beep-then-timers", ExceptionKind::SimOnly, nullptr, nullptr,
         "how long Beep holds the thread depends on the machine: under Wine without a sound "
         "device it returns at once, on Windows when the tone has sounded. What does not depend "
         "on it, Beep's answer and that no waiting message is let in meanwhile, is compared in "
         "system/beeps-and-messages."},
        {"loops/sync-sound-then-timers", ExceptionKind::SimOnly, nullptr, nullptr,
         "a synchronous sound depends on the machine's sound device: under Wine without one "
         "PlaySoundA fails at once, on Windows it returns when the sound has played. The "
         "program plays only asynchronously; what those requests answer is compared in "
         "sound/async-results."},
        // ---- files
        {"files/copy-fail-if-exists", ExceptionKind::WineLine, "CopyFileA b d replace -> 0 error 5",
         "CopyFileA b d replace -> 1",
         "Windows refuses to copy over a read-only file (CopyFile: ERROR_ACCESS_DENIED when the "
         "destination is read-only or hidden). Wine keeps read-only as missing write permission "
         "on the host file, which does not stop root: run as root, Wine replaces it."},
        {"files/move-onto-existing", ExceptionKind::WineLine,
         "FindFirstFileA work\\*.wav -> 1: B.WAV [20]",
         "FindFirstFileA work\\*.wav -> 1: b.wav [20]",
         "MoveFileA from b.wav to B.WAV: Windows renames the file to the new letter case; Wine "
         "finds the existing file under the new name and leaves it as it was."},
        {"files/move-onto-existing", ExceptionKind::WineLine,
         "MoveFileExA B.WAV c replace -> 0 error 5", "MoveFileExA B.WAV c replace -> 1",
         "Windows does not replace a read-only file by a rename (that takes "
         "FILE_RENAME_IGNORE_READONLY_ATTRIBUTE); Wine's rename replaces it."},
        {"files/attributes", ExceptionKind::WineLine,
         "GetFileAttributesA a with none -> 80 error 0",
         "GetFileAttributesA a with none -> 20 error 0",
         "A file whose attributes were all cleared reports FILE_ATTRIBUTE_NORMAL on Windows; "
         "Wine reports every plain file as archived."},
        {"files/attributes", ExceptionKind::WineLine,
         "CreateFileA a for writing is valid -> 0 error 5",
         "CreateFileA a for writing is valid -> 1 error 0",
         "Windows does not open a read-only file for writing (ERROR_ACCESS_DENIED). Wine keeps "
         "read-only as missing write permission on the host file, which does not stop root."},
        // ---- the file-open dialog
        {"filedialogs/open-in-another-folder", ExceptionKind::WineLine,
         "GetCurrentDirectoryA -> <probe>\\work\\other", "GetCurrentDirectoryA -> <probe>\\work",
         "Confirmed, Windows' file-open dialog makes the chosen file's folder the current "
         "directory (OFN_NOCHANGEDIR exists to undo that); Wine's leaves the current directory "
         "when the path was typed into the file name field."},
        {"filedialogs/open-without-extension", ExceptionKind::SimOnly, nullptr, nullptr,
         "Windows appends lpstrDefExt to a name typed without an extension, and so opens "
         "plain.wav for 'plain'; Wine's file-open dialog says the file does not exist. The sim "
         "follows Windows' documentation here, unmeasured; regist_dialog_test's "
         "TheFileOpenDialogWantsAFileThatExistsAndAddsTheWaveExtension relies on it."},
    };
    return list;
}

} // namespace conformance
