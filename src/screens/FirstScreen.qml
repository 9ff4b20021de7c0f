import QtQuick
import QtQuick.Controls

Page {
    id: root
    property StackView stack
}
