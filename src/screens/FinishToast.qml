import QtQuick

// A finish notice: medal or place badge, the finisher's name and time.
Rectangle {
    id: toast

    property int place: 0
    property string name
    property string time

    width: 300
    height: 70
    radius: 12
    opacity: 0.95
    color: place === 1 ? "#FACC15" : place === 2 ? "#D1D5DB" : place === 3 ? "#CD7F32" : "#297AFF"

    Row {
        anchors.fill: parent
        anchors.margins: 10
        spacing: 12

        Text {
            objectName: "toastBadge"
            anchors.verticalCenter: parent.verticalCenter
            width: 50
            text: toast.place === 1 ? "\uD83E\uDD47" : toast.place === 2 ? "\uD83E\uDD48"
                : toast.place === 3 ? "\uD83E\uDD49" : "#" + toast.place
            font.pixelSize: 28
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter

            Text {
                width: 218
                text: toast.name
                elide: Text.ElideRight
                color: "#ff0000"
                font.family: Qt.application.font.family
                font.bold: true
                font.pixelSize: 18
            }
            Text {
                objectName: "toastTime"
                text: toast.time
                color: "#ff0000"
                font.family: Qt.application.font.family
                font.pixelSize: 14
            }
        }
    }
}
