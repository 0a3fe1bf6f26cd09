// The stream a document reads itself from or writes itself to.
#pragma once

#include "framework/afx_types.h"

class QFile;

class CArchive {
public:
    enum Mode { store = 0, load = 1 };

    CArchive(QFile& file, Mode mode) : m_file(file), m_mode(mode) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsStoring() const { return m_mode == store; }
    BOOL IsLoading() const { return m_mode == load; }
    QFile& GetFile() const { return m_file; }

private:
    QFile& m_file;
    Mode m_mode;
};
