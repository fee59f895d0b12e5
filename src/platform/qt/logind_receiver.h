#pragma once
// The receiver of logind's sleep signal (a QObject slot, for QtDBus) and the inhibitor it holds.
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include "platform/power_events.h"

namespace brimvex::qt {

class LogindReceiver final : public QObject {
  Q_OBJECT

 public:
  explicit LogindReceiver(QDBusConnection bus);
  void SetHandlers(platform::PowerEvents::Handlers handlers) { handlers_ = std::move(handlers); }
  // Takes the "sleep" delay inhibitor; false (traced) when logind refuses or is absent.
  bool TakeInhibitor();
  void ReleaseInhibitor() { inhibitor_ = QDBusUnixFileDescriptor(); }
  bool Inhibited() const { return inhibitor_.isValid(); }

 public Q_SLOTS:
  void OnPrepareForSleep(bool sleeping);

 private:
  QDBusConnection bus_;
  QDBusUnixFileDescriptor inhibitor_;
  platform::PowerEvents::Handlers handlers_;
};

}  // namespace brimvex::qt
