// Reads one resource file's JSON into the typed tables, adding to what the
// files read before it gave. Every entry is checked as it is read: anything
// malformed aborts, naming the file, the section, the entry and what was
// expected there, since broken resources are a programming error that no
// window could recover from.
#pragma once

#include "framework/resource_templates.h"

class QByteArray;
class QString;

[[noreturn]] void AbortOnBrokenResources(const QString& file, const QString& problem);

void ReadResourceFile(const QString& file, const QByteArray& json, ResourceTables& tables);
