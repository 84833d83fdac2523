#pragma once
// The test behind most scan groups: does registry data point at nothing? Only data whose file
// is really gone counts: a target the system cannot check right now, one that a 32-bit
// program finds in its own folders, and a bare name that Windows finds where it searches are
// all there.

#include <string>
#include <utility>

#include "scan/file_probe.h"
#include "scan/guess_path.h"
#include "scan/search_places.h"

namespace kestrova {

// What a bare file name in the data stands for: where, besides the system's search for
// programs and libraries, such a file is looked for.
enum class FileKind {
    Program,  // programs, libraries and anything else: the search alone
    Help,     // help files: the Windows Help folder first
    Sound,    // sound files: the Windows Media folder first
};

class TargetTest {
public:
    TargetTest(FileProbe& probe, SearchPlaces places) : probe_(probe), places_(std::move(places)) {}

    // True when data names a file, folder or program that is not there. The data names
    // nothing (and so is not missing) when it is empty or blank, or is only a placeholder for
    // an argument ("%1", "%L", "%*", in quotes too). Blanks around it and the "@" of an
    // indirect string are not part of what it names.
    //
    // What it names is there when the system does not say "not found" (see FileProbe) for:
    // the text as written when it is a full path (a file or a folder); the file GuessPath
    // derives from it; either one with a 64-bit folder (system folder, Program Files, Common
    // Files) replaced by the folder a 32-bit program sees there; and for a bare name, the
    // kind's own folder and then the program search. Each test is made again on the text
    // with its environment variables expanded. A derived path that is not a full path
    // cannot be told, and so is there.
    //
    // When it answers yes, guessPath receives GuessPath(data), for the row.
    bool Missing(const std::wstring& data, std::wstring& guessPath,
                 FileKind kind = FileKind::Program);

    FileProbe& Probe() { return probe_; }
    const SearchPlaces& Places() const { return places_; }

private:
    // Whether text, or the file guessed from it (into guess), is there.
    bool Found(const std::wstring& text, FileKind kind, GuessedFile& guess);
    // Whether path is there in the 32-bit twin of a folder it lies in.
    bool FoundInTwins(const std::wstring& path, bool folderCounts);
    // Whether a bare name is found where its kind is looked for; guessed was probed already.
    bool FoundBare(const std::wstring& name, const std::wstring& guessed, FileKind kind);

    FileProbe& probe_;
    SearchPlaces places_;
};

// TargetTest::Missing with the system's probe and places.
bool TargetMissing(const std::wstring& data);
bool TargetMissing(const std::wstring& data, std::wstring& guessPath);

}  // namespace kestrova
