#pragma once
// The wait cursor while it lives: reading or writing a large plug-in takes
// seconds, and the window must not look dead meanwhile.

#include <QGuiApplication>

namespace kestrel {

class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace kestrel
