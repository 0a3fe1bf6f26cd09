// Turns the controls of a dialog template into Qt widgets on a window.
#pragma once

#include <QList>

class QWidget;
class DialogUnits;
struct DialogTemplate;

// Creates every control of the template as a child of `window`, placed by
// `units`, each named by its id. Returns them in template order.
QList<QWidget*> CreateTemplateControls(const DialogTemplate& dialogTemplate, QWidget* window, const DialogUnits& units);
