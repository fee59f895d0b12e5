#include "platform/qt/logind_power_events.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusReply>

#include "platform/qt/logind_receiver.h"
#include "platform/trace.h"

namespace brimvex::qt {
namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kManager = "org.freedesktop.login1.Manager";

class LogindPowerEvents final : public platform::PowerEvents {
 public:
  LogindPowerEvents() {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
      platform::Trace("power: no system bus (" + bus.lastError().message().toStdString() +
                      "); suspend and resume are not seen");
      return;
    }
    receiver_ = std::make_unique<LogindReceiver>(bus);
    // Only the owner of logind's name is heard; QtDBus follows that owner.
    if (!bus.connect(kService, kPath, kManager, "PrepareForSleep", receiver_.get(), SLOT(OnPrepareForSleep(bool)))) {
      platform::Trace("power: cannot listen to logind: " + bus.lastError().message().toStdString());
      receiver_.reset();
      return;
    }
  }
  void SetHandlers(Handlers handlers) override {
    if (receiver_ == nullptr) return;
    const bool listening = static_cast<bool>(handlers.suspend);
    receiver_->SetHandlers(std::move(handlers));
    if (!listening) {
      receiver_->ReleaseInhibitor();
    } else if (!receiver_->Inhibited()) {
      receiver_->TakeInhibitor();
    }
  }

 private:
  std::unique_ptr<LogindReceiver> receiver_;
};

}  // namespace

LogindReceiver::LogindReceiver(QDBusConnection bus) : bus_(std::move(bus)) {}

bool LogindReceiver::TakeInhibitor() {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, "Inhibit");
  call << QString("sleep") << QString("Brimvex") << QString("Putting the devices to rest") << QString("delay");
  const QDBusReply<QDBusUnixFileDescriptor> reply = bus_.call(call);
  if (!reply.isValid()) {
    platform::Trace("power: no sleep inhibitor: " + reply.error().message().toStdString());
    return false;
  }
  inhibitor_ = reply.value();
  return inhibitor_.isValid();
}

void LogindReceiver::OnPrepareForSleep(bool sleeping) {
  if (sleeping) {
    if (handlers_.suspend) handlers_.suspend();
    // The devices are at rest: the system may sleep.
    ReleaseInhibitor();
  } else {
    TakeInhibitor();
    if (handlers_.resume) handlers_.resume();
  }
}

std::unique_ptr<platform::PowerEvents> CreateLogindPowerEvents() { return std::make_unique<LogindPowerEvents>(); }

}  // namespace brimvex::qt
