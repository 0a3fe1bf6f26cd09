// Opening a file for reading only when it is a regular file.
//
// The name is looked at before it is opened, because opening a FIFO waits for
// a writer and opening a device can have side effects. The open itself does
// not block (the name may have become a FIFO since the look) and never makes
// a terminal the controlling one; a second look at the descriptor settles
// what was really opened.
#pragma once

#include <sys/stat.h>

#include <string>

class ReadOnlyRegularFile {
public:
    explicit ReadOnlyRegularFile(const char* path);
    ~ReadOnlyRegularFile();
    ReadOnlyRegularFile(const ReadOnlyRegularFile&) = delete;
    ReadOnlyRegularFile& operator=(const ReadOnlyRegularFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Descriptor() const { return m_fd; }
    // What fstat said of the open descriptor.
    const struct stat& Info() const { return m_info; }
    // Why the file is not open, in words (empty when it is).
    const std::string& ErrorText() const { return m_error; }

    // Hands the descriptor to the caller, who closes it from then on.
    int Release();

private:
    // Empty on success, else why not (the caller closes the descriptor).
    std::string Open(const char* path);

    int m_fd = -1;
    struct stat m_info {};
    std::string m_error;
};

// Why the file at path is something other than a regular file, in words ("it
// is a pipe (FIFO), not a regular file"), following links; empty when it is a
// regular file, or when nothing can be looked at under that name (a name that
// does not exist yet, a folder that cannot be searched), which the open that
// follows will find out for itself. Looks without opening.
std::string NonRegularFileReason(const char* path);
