// quorix-serve FOLDER: lets the room's browsers watch what the presenter writes into the
// shared folder. Run it on any computer that can read the folder, the file server first.
#include "web/WebServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// Every push channel is an open file: take what the system allows.
void raiseFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

void fail(const QString &text)
{
    std::fprintf(stderr, "quorix-serve: %s\n", qPrintable(text));
}

// The server's options from the command line (--help and --version answer and end here);
// none, with the reason on stderr, when they cannot be used.
std::optional<quorix::WebServer::Options> readOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lets the room's web browsers watch what Quorix writes into FOLDER."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("the shared folder"));
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("address and port to serve on (default :8080, "
                                                   "every address of the machine)"),
                                    QStringLiteral("ADDRESS:PORT"), QStringLiteral(":8080"));
    const QCommandLineOption code(QStringLiteral("code"),
                                  QStringLiteral("the room code browsers must give"),
                                  QStringLiteral("CODE"));
    const QCommandLineOption proxy(QStringLiteral("trusted-proxy"),
                                   QStringLiteral("a reverse proxy whose X-Forwarded-For is "
                                                  "believed (may be repeated)"),
                                   QStringLiteral("ADDRESS"));
    const QCommandLineOption connections(QStringLiteral("max-connections"),
                                         QStringLiteral("connections in all (default 2000)"),
                                         QStringLiteral("N"), QStringLiteral("2000"));
    const QCommandLineOption perAddress(QStringLiteral("max-per-address"),
                                        QStringLiteral("connections from one address (default 32)"),
                                        QStringLiteral("N"), QStringLiteral("32"));
    parser.addOptions({listen, code, proxy, connections, perAddress});
    parser.process(app);

    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 1) {
        fail(QStringLiteral("give the shared folder to serve (quorix-serve --help)"));
        return std::nullopt;
    }
    quorix::WebServer::Options options;
    options.folder = folders.first();
    options.listen = parser.value(listen);
    options.code = parser.value(code).toUtf8();
    for (const QString &address : parser.values(proxy)) {
        QHostAddress trusted;
        if (!trusted.setAddress(address)) {
            fail(QStringLiteral("not an address: %1").arg(address));
            return std::nullopt;
        }
        options.trustedProxies.append(trusted);
    }
    bool ok1 = false;
    bool ok2 = false;
    options.limits.connections = parser.value(connections).toInt(&ok1);
    options.limits.perAddress = parser.value(perAddress).toInt(&ok2);
    if (!ok1 || !ok2 || options.limits.connections < 1 || options.limits.perAddress < 1) {
        fail(QStringLiteral("--max-connections and --max-per-address take a number above 0"));
        return std::nullopt;
    }
    return options;
}

} // namespace

int main(int argc, char *argv[])
{
    // No window system: the PNG encoding of shar.bmp pictures needs QtGui, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorix-serve"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORIX_VERSION));
    const std::optional<quorix::WebServer::Options> options = readOptions(app);
    if (!options)
        return 2;

    raiseFileLimit();
    quorix::WebServer server;
    if (!server.start(*options)) {
        fail(server.error());
        return 1;
    }
    std::printf("quorix-serve: serving %s on port %u\n", qPrintable(options->folder),
                unsigned(server.port()));
    std::fflush(stdout);

    // SIGTERM (systemd) and SIGINT end it cleanly.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return 1;
    std::signal(SIGTERM, onSignal);
    std::signal(SIGINT, onSignal);
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app,
                     [] { QCoreApplication::quit(); });
    const int status = app.exec();
    server.stop();
    return status;
}
