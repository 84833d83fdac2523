#pragma once
// The association backup file: the first export file byte for byte, the second one likewise,
// then the first's size and the second's as 32-bit signed little-endian numbers. There is no
// mark of any kind: a file is taken for a backup when its trailer adds up to its size.

#include <cstdint>
#include <string>

namespace kestrova {

struct AssociationBackupSizes {
    int32_t first = 0;
    int32_t second = 0;
};

// Writes the bytes of the file `first`, those of `second` (nothing when second is empty) and
// the trailer into target, replacing it. Throws Error when a file cannot be read or written;
// a target left half written is deleted.
AssociationBackupSizes WriteAssociationBackupFile(const std::wstring& target,
                                                  const std::wstring& first,
                                                  const std::wstring& second);

// The sizes in the trailer of a backup file. Throws Error ("... is not an association backup
// file: ...") when the file is shorter than 8 bytes, a size is negative, the first part is
// empty, or the two sizes and the trailer do not make up the file's size exactly; Error too
// when it cannot be read.
AssociationBackupSizes ReadAssociationBackupSizes(const std::wstring& file);

// Writes the two parts of a backup file, whose sizes ReadAssociationBackupSizes gave, into the
// files first and second (the second one empty when its part is). Throws Error on a failure of
// the files.
void SplitAssociationBackupFile(const std::wstring& file, const AssociationBackupSizes& sizes,
                                const std::wstring& first, const std::wstring& second);

}  // namespace kestrova
