#include "platform/qt/template_dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace corelith {

namespace {

QString ToQt(const std::string& text) {
    return QString::fromStdString(text);
}

// Rounded a * b / c, as MulDiv computes it.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// Windows buttons react to a click anywhere on their rectangle, not only on the box or
// circle and the text.
template <class Button> class WholeRectangle : public Button {
  public:
    using Button::Button;

  protected:
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

} // namespace

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogBaseUnits base;
    base.x = std::max(1, (width / 26 + 1) / 2);
    base.y = std::max(1, metrics.height());
    return base;
}

int UnitsToPixelsX(int units, const DialogBaseUnits& base) {
    return MulDiv(units, base.x, 4);
}
int UnitsToPixelsY(int units, const DialogBaseUnits& base) {
    return MulDiv(units, base.y, 8);
}

TemplateDialog::TemplateDialog(const DialogTemplate& dialogTemplate, DialogModel& model,
                               QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName(ToQt(dialogTemplate.resource));
    base_ = BaseUnitsOf(font());
    if (dialogTemplate.caption.empty()) {
        // No caption bar: a thin edge around the box instead.
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        auto* edge = new QFrame(this);
        edge->setFrameStyle(QFrame::Box | QFrame::Plain);
        edge->setLineWidth(1);
        edge->setGeometry(0, 0, UnitsToPixelsX(dialogTemplate.width, base_),
                          UnitsToPixelsY(dialogTemplate.height, base_));
    } else {
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowCloseButtonHint);
        setWindowTitle(ToQt(dialogTemplate.caption));
    }
    setFixedSize(UnitsToPixelsX(dialogTemplate.width, base_),
                 UnitsToPixelsY(dialogTemplate.height, base_));
    Build(dialogTemplate);
}

void TemplateDialog::Build(const DialogTemplate& dialogTemplate) {
    QButtonGroup* radios = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = nullptr;
        const QString text = ToQt(control.text);
        const int id = control.id;
        if (control.kind != ControlKind::Radio)
            radios = nullptr; // radio buttons that follow one another form one group
        switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, this);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            widget = label;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, this);
            connect(edit, &QLineEdit::textChanged, this, [this, id] {
                if (settingText_ == 0)
                    Notify(id, Notification::Changed);
            });
            widget = edit;
            break;
        }
        case ControlKind::Button:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(text, this);
            const bool isDefault = control.kind == ControlKind::DefaultButton;
            button->setAutoDefault(false);
            button->setDefault(isDefault);
            if (isDefault && defaultButton_ == nullptr)
                defaultButton_ = button;
            connect(button, &QPushButton::clicked, this,
                    [this, id] { Notify(id, Notification::Clicked); });
            widget = button;
            break;
        }
        case ControlKind::Radio: {
            auto* radio = new WholeRectangle<QRadioButton>(text, this);
            radio->setAutoExclusive(false);
            if (radios == nullptr) {
                radios = new QButtonGroup(this);
                radios->setExclusive(true);
            }
            radios->addButton(radio);
            if (id >= 0)
                radioGroups_[id] = radios;
            connect(radio, &QRadioButton::clicked, this,
                    [this, id] { Notify(id, Notification::Clicked); });
            widget = radio;
            break;
        }
        case ControlKind::Check: {
            auto* check = new WholeRectangle<QCheckBox>(text, this);
            connect(check, &QCheckBox::clicked, this,
                    [this, id] { Notify(id, Notification::Clicked); });
            widget = check;
            break;
        }
        case ControlKind::Group: {
            auto* group = new QGroupBox(text, this);
            widget = group;
            break;
        }
        }
        widget->setGeometry(UnitsToPixelsX(control.x, base_), UnitsToPixelsY(control.y, base_),
                            UnitsToPixelsX(control.width, base_),
                            UnitsToPixelsY(control.height, base_));
        if (control.kind == ControlKind::Group)
            widget->lower();
        if (id >= 0) {
            widget->setObjectName(QString::number(id));
            controls_.emplace(id, widget);
        }
    }
}

int TemplateDialog::Run() {
    model_.OnInit(*this);
    if (ended_)
        return result_;
    running_ = true;
    exec();
    running_ = false;
    return result_;
}

QWidget* TemplateDialog::Control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

std::string TemplateDialog::Text(int id) const {
    QWidget* widget = Control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text().toStdString();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title().toStdString();
    return {};
}

void TemplateDialog::SetText(int id, const std::string& text) {
    QWidget* widget = Control(id);
    const QString value = ToQt(text);
    ++settingText_;
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(value);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(value);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(value);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(value);
    --settingText_;
}

bool TemplateDialog::Checked(int id) const {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isCheckable() && button->isChecked();
}

void TemplateDialog::SetChecked(int id, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    if (button == nullptr || !button->isCheckable())
        return;
    // An exclusive group keeps one button checked; the model unchecks them one by one.
    auto group = radioGroups_.find(id);
    if (group != radioGroups_.end() && !checked) {
        group->second->setExclusive(false);
        button->setChecked(false);
        group->second->setExclusive(true);
        return;
    }
    button->setChecked(checked);
}

void TemplateDialog::FocusDialog() {
    if (defaultButton_ != nullptr)
        defaultButton_->setFocus(Qt::OtherFocusReason);
    else
        setFocus(Qt::OtherFocusReason);
}

void TemplateDialog::FocusControl(int id) {
    if (QWidget* widget = Control(id))
        widget->setFocus(Qt::OtherFocusReason);
}

void TemplateDialog::Beep() {
    QApplication::beep();
}

void TemplateDialog::End(int result) {
    if (ended_)
        return;
    ended_ = true;
    result_ = result;
    if (running_)
        done(result == QDialog::Rejected ? QDialog::Rejected : QDialog::Accepted);
}

void TemplateDialog::reject() {
    Notify(kIdCancel, Notification::Clicked);
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            auto* button = qobject_cast<QPushButton*>(defaultButton_);
            if (button == nullptr)
                Notify(kIdOk, Notification::Clicked);
            else if (button->isEnabled() && button->isVisible())
                button->click();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void TemplateDialog::Notify(int id, Notification what) {
    if (!ended_)
        model_.OnCommand(*this, id, what);
}

} // namespace corelith
