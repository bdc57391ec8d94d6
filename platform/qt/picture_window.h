// A window that shows an SVG picture, scaled to the window with its proportions kept. It
// does not block: the user looks at it beside the main window and closes it when done.
#pragma once

#include <QString>
#include <QWidget>

class QSvgWidget;

namespace corelith {

class PictureWindow : public QWidget {
  public:
    // Shows the picture at `path` titled `title`: in the window that already shows that
    // file (read again, as it may have been rewritten) or in a new one owned by `owner`.
    // Returns nullptr, opening nothing, when the file is not a picture Qt can read.
    static PictureWindow* Show(const QString& path, const QString& title, QWidget* owner);

    const QString& Path() const { return path_; }

  private:
    PictureWindow(const QString& path, QWidget* owner);
    bool Load();

    QString path_;
    QSvgWidget* view_ = nullptr;
};

} // namespace corelith
