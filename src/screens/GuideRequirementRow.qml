import QtQuick

// A row of the requirements table: icon, key and value side by side, ruled along its bottom,
// left and right edges (the line above the first row belongs to the table).
Item {
    id: row

    property string iconPath
    property string itemKey
    property string itemValue
    property int maxValueLines: 3
    property color lineColor
    property int ispacing: 8
    property int imageWidth: 70
    property real keyRate: 0.4
    // What is left for the key and the value once the icon and the gaps are taken.
    readonly property real textWidth: width - imageWidth - 4 * ispacing

    height: 105

    Rectangle { x: 0; width: 1; height: parent.height; color: row.lineColor }
    Rectangle { x: parent.width - 1; width: 1; height: parent.height; color: row.lineColor }
    Rectangle { y: parent.height - 1; width: parent.width; height: 1; color: row.lineColor }

    Image {
        x: row.ispacing
        anchors.verticalCenter: parent.verticalCenter
        width: row.imageWidth
        height: row.imageWidth
        sourceSize: Qt.size(2 * row.imageWidth, 2 * row.imageWidth)
        fillMode: Image.PreserveAspectFit
        source: row.iconPath
    }

    Text {
        x: row.imageWidth + 2 * row.ispacing
        anchors.verticalCenter: parent.verticalCenter
        width: row.textWidth * row.keyRate
        text: row.itemKey
        color: "#D6F7FF"
        font.family: Qt.application.font.family
        font.pixelSize: 22
        font.bold: true
        maximumLineCount: 1
        elide: Text.ElideRight
    }

    Text {
        x: row.imageWidth + row.textWidth * row.keyRate + 3 * row.ispacing
        anchors.verticalCenter: parent.verticalCenter
        width: row.textWidth * (1 - row.keyRate)
        text: row.itemValue
        color: "#FFFFFF"
        font.family: Qt.application.font.family
        font.pixelSize: 22
        wrapMode: Text.WordWrap
        maximumLineCount: row.maxValueLines
        elide: Text.ElideRight
    }
}
