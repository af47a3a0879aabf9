#include "pages/ui_util.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

namespace form1ui {

QString elementName(const char* base, std::size_t index)
{
    return QString::fromLatin1(base) + QLatin1Char('_') + QString::number(index);
}

int charWidth(const QWidget* w, int chars)
{
    // Digits and Latin letters are what these boxes hold; 14 px covers the
    // frame and the text margins of a line edit.
    return w->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars + 14;
}

QPushButton* button(const QString& name, const QString& text)
{
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QPushButton* colourButton(const QString& name, const QString& text)
{
    auto* b = button(name, text);
    b->setFlat(false);
    b->setAutoFillBackground(true);
    return b;
}

QLineEdit* edit(const QString& name, int chars)
{
    auto* e = new QLineEdit;
    e->setObjectName(name);
    if (chars > 0)
        e->setFixedWidth(charWidth(e, chars));
    return e;
}

QLineEdit* readOnlyEdit(const QString& name, int chars)
{
    auto* e = edit(name, chars);
    e->setReadOnly(true);
    return e;
}

QLabel* label(const QString& name, const QString& text)
{
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

QLabel* lamp(const QString& name)
{
    auto* l = label(name);
    l->setFixedSize(18, 18);
    l->setAutoFillBackground(true);
    l->setFrameStyle(QFrame::Box | QFrame::Plain);
    l->setLineWidth(1);
    return l;
}

QComboBox* combo(const QString& name, int minChars)
{
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->setMinimumContentsLength(minChars);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return c;
}

QRadioButton* radio(const QString& name, const QString& text)
{
    auto* r = new QRadioButton(text);
    r->setObjectName(name);
    return r;
}

QCheckBox* check(const QString& name, const QString& text)
{
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    return c;
}

QDateEdit* dateEdit(const QString& name)
{
    auto* d = new QDateEdit;
    d->setObjectName(name);
    d->setCalendarPopup(true);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 40);
    return d;
}

QTimeEdit* timeEdit(const QString& name)
{
    auto* t = new QTimeEdit;
    t->setObjectName(name);
    t->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    t->setMinimumWidth(t->fontMetrics().horizontalAdvance(QStringLiteral("00:00:00")) + 40);
    return t;
}

QLabel* caption(const QString& text)
{
    return new QLabel(text);
}

QLabel* columnHeader(const QString& text)
{
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

QGroupBox* group(const QString& title)
{
    return new QGroupBox(title);
}

QFrame* vline()
{
    auto* f = new QFrame;
    f->setFrameShape(QFrame::VLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

QHBoxLayout* joined(QLineEdit* const* boxes, std::size_t count, const QString& separator)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            row->addWidget(new QLabel(separator));
        boxes[i]->setAlignment(Qt::AlignCenter);
        row->addWidget(boxes[i]);
    }
    row->addStretch(1);
    return row;
}

QButtonGroup* exclusive(QWidget* owner, const QString& name, const std::initializer_list<QRadioButton*>& buttons)
{
    auto* g = new QButtonGroup(owner);
    g->setObjectName(name);
    g->setExclusive(true);
    int id = 0;
    for (QRadioButton* b : buttons)
        g->addButton(b, id++);
    return g;
}

} // namespace form1ui
