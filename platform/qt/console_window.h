// The workbench's own console window for console programs, used where no terminal program
// is installed: the program runs on a pseudo-terminal, its output is shown, and each line
// typed into the input field is sent to it.
#pragma once

#include <QStringDecoder>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QSocketNotifier;

namespace corelith {

class ConsoleWindow : public QWidget {
  public:
    // Starts `program` in `folder`; nullptr when it could not be started. The window
    // deletes itself when closed.
    static ConsoleWindow* Start(const QString& program, const QString& folder);

    ~ConsoleWindow() override;

    QPlainTextEdit* Output() const { return output_; }
    QLineEdit* Input() const { return input_; }
    bool Running() const { return pid_ > 0 && !ended_; }

  private:
    ConsoleWindow(const QString& program, int masterFd, int pid);
    void ReadOutput();
    void SendLine();
    void Ended();
    void Reap();

    QPlainTextEdit* output_ = nullptr;
    QLineEdit* input_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
    QStringDecoder decoder_{QStringDecoder::System}; // keeps characters split across reads
    int masterFd_ = -1;
    int pid_ = -1;
    bool ended_ = false;
};

} // namespace corelith
