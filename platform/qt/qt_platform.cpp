#include "platform/qt/qt_platform.h"

#include "platform/qt/main_window.h"
#include "platform/qt/picture_window.h"
#include "platform/qt/template_dialog.h"
#include "platform/settings_folder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>

#include <clocale>

#ifdef Q_OS_UNIX
#include "platform/qt/console_window.h"
#endif

namespace corelith {

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// While a box or dialog is open the pointer shows the arrow, even inside a command that
// has set the wait cursor.
class ArrowWhileModal {
  public:
    explicit ArrowWhileModal(bool waiting) : active_(waiting) {
        if (active_)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileModal() {
        if (active_)
            QApplication::restoreOverrideCursor();
    }
    ArrowWhileModal(const ArrowWhileModal&) = delete;
    ArrowWhileModal& operator=(const ArrowWhileModal&) = delete;

  private:
    bool active_;
};

// A type-list entry for QFileDialog. The description is shown as it is; the patterns in
// the hidden part follow the Windows rules: "*.*" matches every name, also one without a
// dot.
QString NameFilter(const FileFilter& filter) {
    QStringList patterns = ToQt(filter.pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return ToQt(filter.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
           QLatin1Char(')');
}

// The open and save dialogs with the behaviour of the common dialogs: the default
// extension for a name typed without one, and the prompts to overwrite an existing file
// (save) or to create a missing one (open).
class WorkbenchFileDialog : public QFileDialog {
  public:
    WorkbenchFileDialog(QWidget* parent, const FileDialogRequest& request)
        : QFileDialog(parent, ToQt(request.title)), request_(request) {
        setObjectName(QStringLiteral("fileDialog"));
        setOption(QFileDialog::DontUseNativeDialog);
        setOption(QFileDialog::DontConfirmOverwrite);
        setOption(QFileDialog::HideNameFilterDetails);
        setFileMode(QFileDialog::AnyFile);
        setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QStringList filters;
        for (const FileFilter& filter : request.filters)
            filters << NameFilter(filter);
        if (!filters.isEmpty()) {
            setNameFilters(filters);
            selectNameFilter(filters.first());
        }
        QString folder = ToQt(request.currentFolder);
        if (folder.isEmpty())
            folder = QDir::currentPath();
        QString initial = ToQt(request.initialPath);
        if (!initial.isEmpty() && QFileInfo(initial).isRelative())
            initial = QDir(folder).filePath(initial);
        if (!initial.isEmpty() && QFileInfo(QFileInfo(initial).absolutePath()).isDir())
            folder = QFileInfo(initial).absolutePath();
        setDirectory(folder);
        if (!initial.isEmpty())
            selectFile(QFileInfo(initial).fileName());
    }

    const QString& Chosen() const { return chosen_; }

  protected:
    void accept() override {
        const QStringList files = selectedFiles();
        auto* nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed = nameField != nullptr ? nameField->text() : QString();
        if (typed.contains(QLatin1Char('*')) || typed.contains(QLatin1Char('?'))) {
            // A pattern typed as the name filters the list, as in the common dialogs.
            setNameFilter(typed);
            return;
        }
        if (files.isEmpty() || QFileInfo(files.first()).isDir()) {
            QFileDialog::accept(); // opens the folder
            return;
        }
        QString path = files.first();
        QFileInfo info(path);
        const QString extension = ToQt(request_.defaultExtension);
        if (!extension.isEmpty() && !info.fileName().contains(QLatin1Char('.')) &&
            (request_.save || !info.exists())) {
            path += QLatin1Char('.') + extension;
            info = QFileInfo(path);
        }
        if (request_.save && info.exists()) {
            if (Ask(tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName())) !=
                QMessageBox::Yes)
                return;
        } else if (!request_.save && !info.exists()) {
            if (Ask(tr("%1\nThis file does not exist.\nCreate the file?").arg(info.fileName())) !=
                QMessageBox::Yes)
                return;
        }
        chosen_ = QDir::cleanPath(info.absoluteFilePath());
        QDialog::accept();
    }

  private:
    int Ask(const QString& question) {
        QMessageBox box(QMessageBox::Warning, windowTitle(), question,
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("fileDialogPrompt"));
        box.setDefaultButton(QMessageBox::No);
        return box.exec();
    }

    FileDialogRequest request_;
    QString chosen_;
};

} // namespace

const std::vector<TerminalCommand>& KnownTerminals() {
    static const std::vector<TerminalCommand> terminals = {
        {QStringLiteral("x-terminal-emulator"), {QStringLiteral("-e")}},
        {QStringLiteral("xterm"), {QStringLiteral("-e")}},
        {QStringLiteral("gnome-terminal"), {QStringLiteral("--")}},
        {QStringLiteral("konsole"), {QStringLiteral("-e")}},
        {QStringLiteral("xfce4-terminal"), {QStringLiteral("-x")}},
        {QStringLiteral("mate-terminal"), {QStringLiteral("-x")}},
        {QStringLiteral("lxterminal"), {QStringLiteral("-e")}},
        {QStringLiteral("qterminal"), {QStringLiteral("-e")}},
        {QStringLiteral("terminator"), {QStringLiteral("-x")}},
        {QStringLiteral("tilix"), {QStringLiteral("-e")}},
        {QStringLiteral("alacritty"), {QStringLiteral("-e")}},
        {QStringLiteral("kitty"), {}},
        {QStringLiteral("foot"), {}},
        {QStringLiteral("urxvt"), {QStringLiteral("-e")}},
        {QStringLiteral("rxvt"), {QStringLiteral("-e")}},
    };
    return terminals;
}

namespace {

// The Qt application and the platform on it, made together: the application is a base
// that comes first, so it is created before the platform and outlives the main window.
struct QtApplicationHolder {
    QtApplicationHolder(int& argc, char** argv) : application(argc, argv) {
        // QApplication takes the user's locale; numbers are read and written in the C one.
        std::setlocale(LC_NUMERIC, "C");
    }
    QApplication application;
};

class QtDesktop final : private QtApplicationHolder, public QtPlatform {
  public:
    QtDesktop(int& argc, char** argv, DialogTemplateLookup templates)
        : QtApplicationHolder(argc, argv), QtPlatform(std::move(templates)) {}
};

} // namespace

std::unique_ptr<DesktopPlatform> MakeDesktopPlatform(int& argc, char** argv,
                                                     DialogTemplateLookup templates) {
    return std::make_unique<QtDesktop>(argc, argv, std::move(templates));
}

QtPlatform::QtPlatform(DialogTemplateLookup templates) : templates_(std::move(templates)) {}

QtPlatform::~QtPlatform() = default;

MainWindow& QtPlatform::OpenMainWindow(const MainWindowLayout& layout,
                                       std::function<void(int)> onCommand) {
    owner_ = nullptr;
    window_ = std::make_unique<MainWindow>(layout, std::move(onCommand));
    owner_ = window_.get();
    return *window_;
}

int QtPlatform::RunMainWindow(const MainWindowLayout& layout, std::function<void(int)> onCommand) {
    OpenMainWindow(layout, std::move(onCommand)).show();
    const int status = QApplication::exec();
    owner_ = nullptr;
    window_.reset();
    return status;
}

void QtPlatform::CloseMainWindow() {
    if (window_ != nullptr)
        window_->close();
}

QWidget* QtPlatform::ModalParent() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return owner_;
}

void QtPlatform::ShowMessage(int code, const std::string& caption, const std::string& text,
                             MessageIcon icon, bool beep) {
    if (beep)
        QApplication::beep();
    ArrowWhileModal arrow(waiting_);
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::Information,
                    ToQt(caption), ToQt(text), QMessageBox::Ok, ModalParent());
    box.setObjectName(QStringLiteral("message"));
    box.setProperty("messageCode", code);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void QtPlatform::Beep() {
    QApplication::beep();
}

bool QtPlatform::SelectFile(const FileDialogRequest& request, std::string& chosenPath) {
    ArrowWhileModal arrow(waiting_);
    QWidget* parent = ModalParent();
    WorkbenchFileDialog dialog(parent, request);
    if (!request.save && parent != nullptr)
        dialog.move(parent->frameGeometry().topLeft() + QPoint(5, 30));
    if (dialog.exec() != QDialog::Accepted || dialog.Chosen().isEmpty())
        return false;
    chosenPath = dialog.Chosen().toStdString();
    return true;
}

int QtPlatform::RunDialog(DialogModel& model) {
    const std::string resource = model.Resource();
    const DialogTemplate* found = templates_ ? templates_(resource) : nullptr;
    if (found == nullptr) {
        qWarning("corelith: no dialog template %s", resource.c_str());
        return 0;
    }
    ArrowWhileModal arrow(waiting_);
    TemplateDialog dialog(*found, model, ModalParent());
    return dialog.Run();
}

void QtPlatform::SetCursor(Cursor cursor) {
    if (cursor == Cursor::Wait && !waiting_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        waiting_ = true;
    } else if (cursor == Cursor::Arrow && waiting_) {
        QApplication::restoreOverrideCursor();
        waiting_ = false;
    }
}

bool QtPlatform::StartProgram(const std::string& program, const std::string& folder) {
    if (program.empty())
        return false;
    return QProcess::startDetached(ToQt(program), {}, ToQt(folder));
}

bool QtPlatform::StartConsoleProgram(const std::string& program, const std::string& folder) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // A terminal would open and close at once for a program that cannot run.
    const QFileInfo info(ToQt(program));
    if (program.empty() || !info.isFile() || !info.isExecutable())
        return false;
    for (const TerminalCommand& terminal : KnownTerminals()) {
        const QString found = QStandardPaths::findExecutable(terminal.terminal);
        if (found.isEmpty())
            continue;
        QStringList arguments = terminal.beforeProgram;
        arguments << info.absoluteFilePath();
        if (QProcess::startDetached(found, arguments, ToQt(folder)))
            return true;
    }
    return StartInOwnConsole(program, folder);
#else
    // Windows and macOS give a console program its own console window.
    return StartProgram(program, folder);
#endif
}

bool QtPlatform::StartInOwnConsole(const std::string& program, const std::string& folder) {
#ifdef Q_OS_UNIX
    return ConsoleWindow::Start(ToQt(program), ToQt(folder)) != nullptr;
#else
    return StartProgram(program, folder);
#endif
}

bool QtPlatform::ShowPicture(const std::string& svgPath, const std::string& title) {
    return PictureWindow::Show(ToQt(svgPath), ToQt(title), owner_) != nullptr;
}

std::string QtPlatform::SettingsFolder() {
    return DefaultSettingsFolder();
}

} // namespace corelith
