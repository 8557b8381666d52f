#pragma once
// Shared by the dialog tests: the errors the application's default handler
// received (in order), and small helpers around the event loop.
#include <QCoreApplication>
#include <string>
#include <vector>

std::vector<std::string>& reported_errors();

// Delivers posted events, including errors handed on from handlers.
inline void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}
