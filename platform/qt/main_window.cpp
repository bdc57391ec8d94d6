#include "platform/qt/main_window.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

namespace corelith {

namespace {

// The client area: white, with a sunken edge; it draws nothing and swallows mouse clicks.
class ClientArea : public QFrame {
  public:
    explicit ClientArea(QWidget* parent) : QFrame(parent) {
        setObjectName(QStringLiteral("client"));
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, Qt::white);
        setPalette(palette);
        setAutoFillBackground(true);
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
    void contextMenuEvent(QContextMenuEvent* event) override { event->accept(); }
};

// The program's icon: a coiled foraminifer test, chambers growing along a spiral.
// (Corelith is the only program with a main window.)
QIcon CorelithIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(90, 60, 30), std::max(1.0, size / 32.0)));
        const QPointF centre(size * 0.5, size * 0.5);
        const int chambers = 7;
        for (int i = 0; i < chambers; ++i) {
            const double angle = i * 0.95;
            const double distance = size * (0.06 + 0.045 * i);
            const double radius = size * (0.07 + 0.028 * i);
            const QPointF at =
                centre + QPointF(distance * std::cos(angle), distance * std::sin(angle));
            painter.setBrush(QColor(235 - 12 * i, 215 - 14 * i, 170 - 12 * i));
            painter.drawEllipse(at, radius, radius);
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

MainWindow::MainWindow(const MainWindowLayout& layout, std::function<void(int)> onCommand)
    : onCommand_(std::move(onCommand)) {
    setObjectName(QString::fromStdString(layout.title));
    setWindowTitle(QString::fromStdString(layout.title));
    setWindowIcon(CorelithIcon());
    setCentralWidget(new ClientArea(this));
    statusBar()->setObjectName(QStringLiteral("status"));
    statusBar()->setSizeGripEnabled(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    BuildMenus(layout.menus);
    BuildAccelerators(layout.accelerators);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + area.width() / 20, area.y() + area.height() / 20);
    }
    resize(layout.width, layout.height);
}

void MainWindow::BuildMenus(const std::vector<Menu>& menus) {
    for (const Menu& menu : menus) {
        QMenu* qmenu = menuBar()->addMenu(QString::fromStdString(menu.title));
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                qmenu->addSeparator();
                continue;
            }
            // The text after a tab is shown as the item's shortcut; the keys themselves
            // belong to the accelerator table.
            QAction* action = qmenu->addAction(QString::fromStdString(item.text));
            action->setData(item.id);
            action->setObjectName(QStringLiteral("command%1").arg(item.id));
            action->setEnabled(!item.grayed);
            const int id = item.id;
            connect(action, &QAction::triggered, this, [this, id] { onCommand_(id); });
        }
    }
}

void MainWindow::BuildAccelerators(const std::vector<Accelerator>& accelerators) {
    for (const Accelerator& accelerator : accelerators) {
        auto* shortcut =
            new QShortcut(QKeySequence(QString::fromStdString(accelerator.keys)), this);
        shortcut->setContext(Qt::WindowShortcut);
        const int id = accelerator.command;
        connect(shortcut, &QShortcut::activated, this, [this, id] { onCommand_(id); });
    }
}

QAction* MainWindow::MenuAction(int id) const {
    return findChild<QAction*>(QStringLiteral("command%1").arg(id));
}

} // namespace corelith
