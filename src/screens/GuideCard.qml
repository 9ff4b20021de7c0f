import QtQuick

// A card of the quick-start guide's sections: rounded, translucent dark teal with a thin border;
// its items stack in a column inset 18 from every edge.
Rectangle {
    id: card

    // The page whose colours the card takes (contentCardColor, contentCardBorderColor...).
    property var colours
    readonly property alias innerWidth: column.width
    default property alias content: column.data

    radius: 12
    color: colours.contentCardColor
    border.width: 1
    border.color: colours.contentCardBorderColor

    Column {
        id: column
        anchors.fill: parent
        anchors.margins: 18
    }
}
