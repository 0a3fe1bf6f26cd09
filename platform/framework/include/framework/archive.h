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

    // No document of ours stores anything, but these two are all a
    // Serialize override needs: which way the data goes, and the file.
    BOOL IsStoring() const { return m_mode == store; }
    QFile& GetFile() const { return m_file; }

private:
    QFile& m_file;
    Mode m_mode;
};
