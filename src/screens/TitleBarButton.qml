import QtQuick

// One square glyph button of the window's title bar.
Rectangle {
    id: button

    property alias glyph: glyphLabel.text
    property alias glyphFont: glyphLabel.font
    property alias glyphColor: glyphLabel.color
    property color normalColor
    property color hoverColor
    readonly property alias hovered: pointerArea.containsMouse

    signal clicked()

    width: 36
    height: 36
    color: hovered ? hoverColor : normalColor

    Text {
        id: glyphLabel
        anchors.centerIn: parent
    }

    MouseArea {
        id: pointerArea
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor

        // MouseArea signals
        onClicked: button.clicked()
    }
}
