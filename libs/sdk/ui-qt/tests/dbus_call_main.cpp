// A D-Bus caller for the end-to-end scripts, for what gdbus cannot send: arguments far
// beyond the command line's limit, read from files.
//   vesk_dbus_call DEST PATH METHOD ARG...
// An argument is "y:N" (byte), "i:N" (int32), "s:TEXT" (string) or "f:FILE" (a string
// holding the file's bytes as UTF-8). Prints the reply's strings as "('a', 'b')" the way
// gdbus does, each cut to its first 200 characters and followed by its length when longer;
// exits 0 on a reply, 1 on a D-Bus error (printed), 2 on a bad command line.
#include <QCoreApplication>
#include <QFile>
#include <QtDBus/QDBusConnection>
#include <QtDBus/QDBusMessage>
#include <cstdio>

namespace {

constexpr qsizetype kShown = 200;
constexpr int kTimeoutMilliseconds = 20000;

std::optional<QVariant> argument(const QString& typed) {
  const QString value = typed.mid(2);
  if (typed.startsWith(QLatin1String("y:"))) return QVariant::fromValue(uchar(value.toUInt()));
  if (typed.startsWith(QLatin1String("i:"))) return QVariant::fromValue(value.toInt());
  if (typed.startsWith(QLatin1String("s:"))) return QVariant::fromValue(value);
  if (typed.startsWith(QLatin1String("f:"))) {
    QFile file(value);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QVariant::fromValue(QString::fromUtf8(file.readAll()));
  }
  return std::nullopt;
}

QString shown(const QVariant& value) {
  const QString text = value.toString();
  QString out = QLatin1Char('\'') + text.left(kShown) + QLatin1Char('\'');
  if (text.size() > kShown) out += QStringLiteral("…[%1 chars]").arg(text.size());
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() < 4) {
    std::fprintf(stderr, "usage: vesk_dbus_call DEST PATH METHOD ARG...\n");
    return 2;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(args[1], args[2],
                                                     QStringLiteral("org.vesk.Actions1"), args[3]);
  QList<QVariant> values;
  for (qsizetype index = 4; index < args.size(); ++index) {
    auto value = argument(args[index]);
    if (!value) {
      std::fprintf(stderr, "bad argument %s\n", qPrintable(args[index]));
      return 2;
    }
    values.append(*value);
  }
  call.setArguments(values);
  const QDBusMessage reply =
      QDBusConnection::sessionBus().call(call, QDBus::Block, kTimeoutMilliseconds);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    std::printf("error %s: %s\n", qPrintable(reply.errorName()),
                qPrintable(reply.errorMessage().left(kShown)));
    return 1;
  }
  QStringList parts;
  for (const QVariant& value : reply.arguments()) parts.append(shown(value));
  std::printf("(%s)\n", qPrintable(parts.join(QStringLiteral(", "))));
  return 0;
}
