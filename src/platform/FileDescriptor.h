#pragma once

#include <unistd.h>

// A file descriptor of our own, closed when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : m_descriptor(descriptor) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return m_descriptor; }
    bool isOpen() const { return m_descriptor >= 0; }
    void reset(int descriptor = -1) {
        if (m_descriptor >= 0) ::close(m_descriptor);
        m_descriptor = descriptor;
    }
    // Reports what close says: a delayed write error shows up here on some file systems.
    int close() {
        const int result = ::close(m_descriptor);
        m_descriptor = -1;
        return result;
    }

private:
    int m_descriptor = -1;
};
