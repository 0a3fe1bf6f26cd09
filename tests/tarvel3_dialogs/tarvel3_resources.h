// Installs the Tarvel3 program's resources (the dialog templates) once.
#pragma once

#include "framework/resources.h"

#include <QString>

inline void InstallTarvel3Resources()
{
    static const ResourceSet resources = ResourceSet::Load(":/tarvel3");
    AfxSetResources(&resources);
}
