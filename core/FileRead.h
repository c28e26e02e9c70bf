// Reading a whole file a player may have placed (an image, a font): only a
// regular file is read, within a size limit, and nothing is ever opened in a
// way that waits (a FIFO's open would block until a writer came).
#ifndef QUILLMAR_CORE_FILEREAD_H
#define QUILLMAR_CORE_FILEREAD_H

#include <cstddef>
#include <vector>

namespace qmfile {

enum class ReadResult { Read, TooLarge, Failed };

// Reads the file into *bytes (an empty file reads as no bytes). TooLarge,
// with the size seen in *seen, when it holds more than `limit` bytes, also
// when it grows past the limit while read; Failed with a reason when it
// cannot be opened or read or is not a regular file (a directory, a pipe, a
// device).
ReadResult ReadWholeFile(const char* path, std::size_t limit, std::vector<unsigned char>* bytes,
                         std::size_t* seen, char* reason, std::size_t reasonSize);

}  // namespace qmfile

#endif
