#pragma once

// Small 16 x 16 menu icons drawn for the demonstration.

#include <QIcon>

QIcon DemoSearchIcon();
QIcon DemoDocumentIcon();
QIcon DemoDiskIcon();
QIcon DemoTrashIcon();
