// One timed SHA-1 of a whole file, as sha1_file_timer reports it.
#pragma once

#include <string>

struct HashRun {
    double seconds = 0;    // wall time of the whole step, file opening included
    std::string sha1;      // the digest, 40 hex digits in standard byte order
    std::string shown;     // what the program itself displayed as its timing
};

// The SHA-1 dialog (offscreen) answering one press of FileName with the file
// picked through the prompt seam. Throws std::runtime_error with the message
// the dialog showed when it could not hash the file.
HashRun RunDialogFileName(const std::string& path);

// What a program without any framework would do: open, map read-only, one
// EVP_Digest over the mapping, unmap and close.
HashRun RunMappedDigest(const std::string& path);
