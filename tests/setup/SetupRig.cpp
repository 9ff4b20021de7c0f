#include "SetupRig.h"

#include "TestWorkbook.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>

namespace {

const QString organisation = QStringLiteral("Rivanta");
const QString addressStore = QStringLiteral("BlueMacAddr");

QByteArray inlineCell(const QString& reference, const QString& text)
{
    return "<c r=\"" + reference.toUtf8() + "\" t=\"inlineStr\"><is><t xml:space=\"preserve\">" +
           text.toHtmlEscaped().toUtf8() + "</t></is></c>";
}

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
    storeAddresses(QStringList(SlotCount));
    for (int slot = 1; slot <= SlotCount; ++slot) {
        for (int column = ColFirstName; column <= ColDob; ++column)
            global_data[slot][column].clear();
        global_data[slot][ColNo] = QString::number(slot);
    }
    race_data.clear();
    for (int& entry : console_indexes)
        entry = -1;
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

QVariantList SetupRig::raceRows() const
{
    QVariantList rows;
    for (const QStringList& row : race_data)
        rows.append(row);
    return rows;
}

int SetupRig::consoleDistance(const QString& address) const
{
    for (const KayakConsole& console : consoles) {
        if (console.address == address)
            return int(console.distance);
    }
    return -1;
}

int SetupRig::consoleCount() const
{
    return consoles.size();
}

bool SetupRig::holdsConsoles() const
{
    return all_devices_connected;
}

QString SetupRig::writeSheet(const QVariantList& athletes)
{
    QByteArray data;
    for (int i = 0; i < athletes.size(); ++i) {
        const QString row = QString::number(11 + i);
        const QStringList cells = athletes[i].toStringList();
        data += "<row r=\"" + row.toUtf8() + "\">";
        for (int column = 0; column < cells.size() && column < 8; ++column)
            data += inlineCell(QChar(u'A' + column) + row, cells[column]);
        data += "</row>";
    }
    const QString path = m_dir.filePath(QStringLiteral("athletes-%1.xlsx").arg(++m_sheets));
    const TestWorkbook::Parts parts =
        TestWorkbook::workbook({{QStringLiteral("Athletes"), TestWorkbook::sheetXml(data)}});
    return TestWorkbook::write(path, parts) ? path : QString();
}

void SetupRig::answerFileDialog(const QString& path)
{
    m_dialogPath = path;
    m_dialogAnswered = false;
    m_dialogPolls = 0;
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer] {
        answerOpenDialog();
        if (m_dialogAnswered || ++m_dialogPolls > 500)
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
