// What the stand-in splitter of the embed tests prints, and the words in its input that make it
// misbehave.
#pragma once

namespace scrivora::test {

// The whole output of `fake_notes -x` for any ordinary input.
inline constexpr char kFakeNotesOutput[] =
    "{\\rtf1\\ansi {\\b \xB7"
    "1\xB7} The note.\\par}";

inline constexpr char kFailMain[] = "FAKE-FAIL-R";         // -r exits with status 3
inline constexpr char kKillMain[] = "FAKE-KILL-R";         // -r is killed
inline constexpr char kGarbageMain[] = "FAKE-GARBAGE-R";   // -r prints a group that never closes
inline constexpr char kEmptyMain[] = "FAKE-EMPTY-R";       // -r prints nothing
inline constexpr char kSlowMain[] = "FAKE-SLOW-R";         // -r waits half a minute first
inline constexpr char kFailNotes[] = "FAKE-FAIL-X";        // -x exits with status 4
inline constexpr char kGarbageNotes[] = "FAKE-GARBAGE-X";  // -x prints text that is no group

}  // namespace scrivora::test
