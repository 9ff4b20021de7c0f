#include "SetupRig.h"

#include "TestWorkbook.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

namespace {

const QString organisation = QStringLiteral("Rivanta");
const QString addressStore = QStringLiteral("BlueMacAddr");

} // namespace

bool SetupRig::start()
{
    if (!m_started)
        m_started = sim.start();
    return m_started;
}

bool SetupRig::reset()
{
    const bool ok = sim.reset();
    storeAddresses({});
    for (int slot = 1; slot <= SlotCount; ++slot) {
        for (int column = ColFirstName; column <= ColDob; ++column)
            global_data[slot][column].clear();
        global_data[slot][ColNo] = QString::number(slot);
    }
    race_data.clear();
    global_totaldist = 0;
    return ok && sim.rig.setAdapter({{QStringLiteral("powered"), true}});
}

void SetupRig::storeAddresses(const QStringList& texts)
{
    QSettings settings(organisation, addressStore);
    for (int slot = 0; slot < SlotCount; ++slot)
        settings.setValue(QString::number(slot), texts.value(slot));
}

QStringList SetupRig::storedAddresses() const
{
    const QSettings settings(organisation, addressStore);
    QStringList texts;
    for (int slot = 0; slot < SlotCount; ++slot)
        texts.append(settings.value(QString::number(slot)).toString());
    return texts;
}

int SetupRig::consoleDistance(const QString& address) const
{
    for (const KayakConsole& console : consoles) {
        if (console.address == address)
            return int(console.distance);
    }
    return -1;
}

QString SetupRig::writeSheet(const QVariantList& athletes)
{
    QByteArray data;
    for (int i = 0; i < athletes.size(); ++i) {
        const QByteArray row = QByteArray::number(11 + i);
        const QStringList cells = athletes[i].toStringList();
        data += "<row r=\"" + row + "\">";
        for (int column = 0; column < cells.size(); ++column)
            data += "<c r=\"" + QByteArray(1, char('A' + column)) + row +
                    "\" t=\"inlineStr\"><is><t>" + cells[column].toHtmlEscaped().toUtf8() +
                    "</t></is></c>";
        data += "</row>";
    }
    const QString path = m_dir.filePath(QStringLiteral("athletes-%1.xlsx").arg(++m_sheets));
    const bool ok = TestWorkbook::write(
        path, TestWorkbook::workbook({{QStringLiteral("Athletes"), TestWorkbook::sheetXml(data)}}));
    return ok ? path : QString();
}

QString SetupRig::writeOldWorkbook()
{
    const QString path = m_dir.filePath(QStringLiteral("athletes-%1.xls").arg(++m_sheets));
    QFile file(path);
    const QByteArray bytes = QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(2048, '\0');
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

void SetupRig::answerMessageBox()
{
    m_message.clear();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                m_message = box->windowTitle() + u'|' + box->text();
                box->button(QMessageBox::Ok)->click();
                timer->deleteLater();
                return;
            }
        }
    });
    timer->start(20);
}

void SetupRig::answerFileDialog(const QString& path)
{
    m_dialogPath = path;
    m_dialogAnswered = false;
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer] {
        answerOpenDialog();
        if (m_dialogAnswered)
            timer->deleteLater();
    });
    timer->start(20);
}

void SetupRig::answerOpenDialog()
{
    QFileDialog* dialog = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !dialog)
            dialog = qobject_cast<QFileDialog*>(widget);
    }
    if (!dialog)
        return;
    if (m_dialogPath.isEmpty()) {
        dialog->reject();
    } else {
        // Typed into the file name field, as an operator may, then accepted.
        if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(m_dialogPath);
        else
            dialog->selectFile(m_dialogPath);
        QMetaObject::invokeMethod(dialog, "accept");
    }
    m_dialogAnswered = !dialog->isVisible();
}
