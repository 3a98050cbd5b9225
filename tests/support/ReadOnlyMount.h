#pragma once

#include <QString>

// A folder made read-only by a bind mount over itself, as a read-only disk is: not even root writes
// into it (EROFS). Mounting needs root, as the tests have in CI; without it, mounted() is false and the
// test skips.
class ReadOnlyMount {
public:
    explicit ReadOnlyMount(QString folder);
    ~ReadOnlyMount();
    ReadOnlyMount(const ReadOnlyMount&) = delete;
    ReadOnlyMount& operator=(const ReadOnlyMount&) = delete;

    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};
