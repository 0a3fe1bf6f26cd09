// The programs started inside the test process (see shell/program_session.h).
// The settings folder of the test program is shared, so a second session sees
// what the first one stored in the profile.
#pragma once

#include "shell/program_session.h"

#include <QSettings>

inline constexpr const char* kProfileOrganisation = "Local AppWizard-Generated Applications";

// Forgets the program's profile (recent files) so that a test starts clean.
inline void ClearProfile(const char* application)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kProfileOrganisation, application);
    settings.clear();
    settings.sync();
}
