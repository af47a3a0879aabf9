#pragma once
// Small makers shared by the page builders of the main window. Every maker
// gives the control its object name; array elements are named "<base>_<i>".
#include <QString>
#include <array>
#include <cstddef>
#include <initializer_list>

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QTimeEdit;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
struct Form1Ui;

namespace form1ui {

QString elementName(const char* base, std::size_t index);

// Width of `chars` average digits plus the frame of a line edit or list.
int charWidth(const QWidget* w, int chars);

QPushButton* button(const QString& name, const QString& text);
// A button whose face colour the program paints (DO, DQ, LEDs, channel enable).
QPushButton* colourButton(const QString& name, const QString& text);
// chars > 0 gives a fixed width for that many characters, 0 lets it stretch.
QLineEdit* edit(const QString& name, int chars = 0);
QLineEdit* readOnlyEdit(const QString& name, int chars = 0);
QLabel* label(const QString& name, const QString& text = {});
QLabel* lamp(const QString& name);
// minChars keeps the width steady whatever the program later puts in the list.
QComboBox* combo(const QString& name, int minChars);
QRadioButton* radio(const QString& name, const QString& text);
QCheckBox* check(const QString& name, const QString& text);
// Date "yyyy-MM-dd" with a calendar drop-down, time "HH:mm:ss".
QDateEdit* dateEdit(const QString& name);
QTimeEdit* timeEdit(const QString& name);

// An unnamed caption for a field or a column.
QLabel* caption(const QString& text);
QLabel* columnHeader(const QString& text);
QGroupBox* group(const QString& title);
QFrame* vline();

// Fills a control array: element i = make(elementName(base, i), i).
template <class T, std::size_t N, class Make>
void makeArray(std::array<T*, N>& arr, const char* base, Make make)
{
    for (std::size_t i = 0; i < N; ++i)
        arr[i] = make(elementName(base, i), static_cast<int>(i));
}

// The boxes of an address (IP, MAC) in one row, separated by `separator`.
QHBoxLayout* joined(QLineEdit* const* boxes, std::size_t count, const QString& separator);
template <std::size_t N>
QHBoxLayout* joined(const std::array<QLineEdit*, N>& boxes, const QString& separator)
{
    return joined(boxes.data(), N, separator);
}

QButtonGroup* exclusive(QWidget* owner, const QString& name, const std::initializer_list<QRadioButton*>& buttons);

// The pages, one builder per source file.
QWidget* buildSystemPage(Form1Ui& ui);
QWidget* buildAiPage(Form1Ui& ui);
QWidget* buildDioPage(Form1Ui& ui);
QWidget* buildAqPage(Form1Ui& ui);
QWidget* buildClockPage(Form1Ui& ui);
QWidget* buildControlPage(Form1Ui& ui);
QWidget* buildFilesPage(Form1Ui& ui);

} // namespace form1ui
