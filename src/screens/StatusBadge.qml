import QtQuick

// One look of a slot's connection cell: a badge picture drawn at its cell's size.
Image {
    width: 181
    height: 48
    sourceSize.width: width
    sourceSize.height: height
}
