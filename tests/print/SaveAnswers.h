#pragma once

// Answers the save action's dialogs as the organiser would: the file dialog with a typed name,
// then each message box in turn, noting what they said.

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

// Owns the watchers of the running test function, so one whose widget never came ends with it.
inline QObject* watchers = nullptr;

// Acts on the first visible top-level widget of type T once a modal loop has shown it.
template <class T> void whenShown(std::function<void(T*)> act)
{
    auto* timer = new QTimer(watchers);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            T* shown = qobject_cast<T*>(widget);
            if (shown && shown->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(shown);
                return;
            }
        }
    });
    timer->start();
}

// Types the full path into the save dialog and presses Save, as the organiser would.
inline void answerSaveDialog(const QString& path, QStringList* seen = nullptr)
{
    whenShown<QFileDialog>([path, seen](QFileDialog* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (seen)
            *seen = {dialog->windowTitle(), dialog->directory().absolutePath(), name->text(),
                     dialog->nameFilters().join(u';')};
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept"); // the Save button
    });
}

// Presses button, or closes a box that has no such button.
inline void press(QMessageBox* box, QMessageBox::StandardButton button)
{
    if (QAbstractButton* found = box->button(button))
        found->click();
    else
        box->reject();
}

// Answers the next message box with button, noting its text.
inline void answerMessage(QMessageBox::StandardButton button, QString* text = nullptr)
{
    whenShown<QMessageBox>([button, text](QMessageBox* box) {
        if (text)
            *text = box->text();
        press(box, button);
    });
}

// Answers the next message boxes in turn, one button each, noting their texts.
inline void answerMessages(QList<QMessageBox::StandardButton> buttons, QStringList* texts)
{
    if (buttons.isEmpty())
        return;
    whenShown<QMessageBox>([buttons, texts](QMessageBox* box) {
        texts->append(box->text());
        press(box, buttons.first());
        answerMessages(buttons.mid(1), texts);
    });
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
