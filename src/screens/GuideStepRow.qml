import QtQuick

// A row of the quick-start guide's step list: the step number in a bright disc, the step's
// icon, its title and a short subtitle. The current row is lit by a gradient towards its right.
Rectangle {
    id: row

    required property int index
    required property string title
    required property string subtitle
    required property string icon
    property bool current: false

    signal clicked()

    radius: 8
    border.width: 1
    border.color: current ? "#0A2A39" : "#E00A2A39"
    color: "#800A2A39"
    gradient: current ? litGradient : null

    Gradient {
        id: litGradient
        orientation: Gradient.Horizontal
        GradientStop { position: 0; color: "#800A2A39" }
        GradientStop { position: 1; color: "#F00A2A39" }
    }

    Row {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 15

        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 50
            height: 50
            radius: 25
            color: "#2AE8FF"

            Text {
                anchors.centerIn: parent
                text: row.index + 1
                color: "#092D37"
                font.family: Qt.application.font.family
                font.pixelSize: 25
            }
        }

        Image {
            anchors.verticalCenter: parent.verticalCenter
            width: 50
            height: 50
            sourceSize: Qt.size(100, 100)
            fillMode: Image.PreserveAspectFit
            source: row.icon
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - 2 * 50 - 2 * parent.spacing
            spacing: 2

            Text {
                width: parent.width
                text: row.title
                color: "white"
                font.family: Qt.application.font.family
                font.pixelSize: 25
                maximumLineCount: 1
                elide: Text.ElideRight
            }

            Text {
                width: parent.width
                text: row.subtitle
                color: Qt.rgba(1, 1, 1, 0.8)
                font.family: Qt.application.font.family
                font.pixelSize: 20
                wrapMode: Text.WordWrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor

        // MouseArea signals
        onClicked: row.clicked()
    }
}
