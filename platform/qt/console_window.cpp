#include "platform/qt/console_window.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>

#include <cerrno>
#include <csignal>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace corelith {

namespace {

constexpr unsigned short kColumns = 80;
constexpr unsigned short kRows = 25;

// Collects the exit status of a child that has gone, so that it leaves no zombie; a child
// still running after the hang-up gets a few chances and is then killed.
void ReapLater(int pid, int attempts) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != 0)
        return;
    if (attempts == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return;
    }
    QTimer::singleShot(200, [pid, attempts] { ReapLater(pid, attempts - 1); });
}

} // namespace

ConsoleWindow* ConsoleWindow::Start(const QString& program, const QString& folder) {
    const QByteArray programPath = QFile::encodeName(program);
    const QByteArray folderPath = QFile::encodeName(folder);
    winsize size{};
    size.ws_col = kColumns;
    size.ws_row = kRows;
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, &size);
    if (pid < 0)
        return nullptr;
    if (pid == 0) {
        if (!folderPath.isEmpty() && chdir(folderPath.constData()) != 0)
            _exit(127);
        setenv("TERM", "dumb", 1);
        execl(programPath.constData(), programPath.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    auto* window = new ConsoleWindow(program, master, pid);
    window->show();
    return window;
}

ConsoleWindow::ConsoleWindow(const QString& program, int masterFd, int pid)
    : QWidget(nullptr, Qt::Window), masterFd_(masterFd), pid_(pid) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("console"));
    setWindowTitle(QFileInfo(program).fileName());
    output_ = new QPlainTextEdit(this);
    output_->setReadOnly(true);
    output_->setObjectName(QStringLiteral("output"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    output_->setFont(fixed);
    input_ = new QLineEdit(this);
    input_->setObjectName(QStringLiteral("input"));
    input_->setFont(fixed);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(output_);
    layout->addWidget(input_);
    const QFontMetrics metrics(fixed);
    resize(metrics.horizontalAdvance(QLatin1Char('M')) * kColumns + 30,
           metrics.height() * kRows + 40);
    notifier_ = new QSocketNotifier(masterFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadOutput(); });
    connect(input_, &QLineEdit::returnPressed, this, [this] { SendLine(); });
    input_->setFocus();
}

ConsoleWindow::~ConsoleWindow() {
    if (masterFd_ >= 0)
        ::close(masterFd_); // hangs up the program if it still runs
    if (pid_ > 0)
        ReapLater(pid_, 10);
}

void ConsoleWindow::ReadOutput() {
    char buffer[4096];
    const ssize_t got = read(masterFd_, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        Ended();
        return;
    }
    QString text = decoder_.decode(QByteArrayView(buffer, got));
    text.remove(QLatin1Char('\r'));
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(text);
    output_->moveCursor(QTextCursor::End);
}

void ConsoleWindow::SendLine() {
    if (ended_)
        return;
    QByteArray line = input_->text().toLocal8Bit();
    line += '\n';
    const char* next = line.constData();
    qsizetype left = line.size();
    while (left > 0) {
        const ssize_t written = write(masterFd_, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        next += written;
        left -= written;
    }
    input_->clear();
}

void ConsoleWindow::Ended() {
    if (ended_)
        return;
    ended_ = true;
    notifier_->setEnabled(false);
    input_->setEnabled(false);
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(
        QStringLiteral("\n[The program has ended. Close this window when done.]\n"));
    Reap();
}

void ConsoleWindow::Reap() {
    if (pid_ > 0) {
        ReapLater(pid_, 10);
        pid_ = -1;
    }
}

} // namespace corelith
