// A file mapped whole and read-only, for handing to a component in one call.
//
// Only regular files are accepted, and that is checked before the file is
// opened, so picking a FIFO or a device never blocks the program or touches
// hardware. The mapping and the descriptor are released on every path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class MappedFile {
public:
    enum class Status {
        Ok,
        CannotOpen,  // missing, no permission, a folder, a FIFO, a device...
        TooLarge,    // larger than the limit given to Open; not mapped
        CannotMap,   // opened but mmap failed
    };

    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    ~MappedFile();

    // Maps the file at path, releasing whatever was held before. A file of
    // more than maxBytes is refused before anything is mapped. An empty file
    // succeeds without a mapping.
    Status Open(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);
    void Close();
    // Closes as Close does, but leaves unmapping a large mapping to a thread
    // of its own: taking down the page tables of a GiB takes tens of
    // milliseconds (more where the file was written in small pieces), which
    // whoever waits for a result need not wait for. The descriptor is closed
    // and the bytes are no longer this object's at once; the address range
    // is free soon after.
    void CloseInBackground();

    bool IsOpen() const { return m_fd >= 0; }
    // The file's bytes. Never null while open: an empty file gives a valid
    // pointer to no bytes, so callers need no special case.
    const std::uint8_t* Data() const;
    // The size at the time of mapping, which is also the mapped length.
    std::uint64_t Size() const { return m_size; }
    // The open descriptor (-1 when closed), for looking at the file again
    // while it is mapped; it stays owned by this object.
    int Descriptor() const { return m_fd; }
    // Why the last Open failed, in words (empty after a success).
    const std::string& ErrorText() const { return m_error; }

private:
    Status Fail(Status status, std::string reason);

    int m_fd = -1;
    void* m_base = nullptr;
    std::uint64_t m_size = 0;
    std::string m_error;
};
