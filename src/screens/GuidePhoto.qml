import QtQuick

// A picture of the guide pages that fades into the page's backdrop colour at chosen edges: the
// picture fills its box (cropped, never squeezed), then a horizontal and a vertical gradient of
// the same size lie over it. Each fade runs from the backdrop at the edge to clear at the given
// fraction of the box; a fade of 0 (left, top) or 1 (right, bottom) leaves that edge sharp.
Item {
    id: photo

    property alias source: picture.source
    property color fadeColor
    property real leftFade: 0
    property real rightFade: 1
    property real topFade: 0
    property real bottomFade: 1

    readonly property color clear: "#00000000"

    Image {
        id: picture
        anchors.fill: parent
        fillMode: Image.PreserveAspectCrop
        smooth: true
        clip: true
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: photo.leftFade > 0 ? photo.fadeColor : photo.clear }
            GradientStop { position: photo.leftFade; color: photo.clear }
            GradientStop { position: photo.rightFade; color: photo.clear }
            GradientStop { position: 1; color: photo.rightFade < 1 ? photo.fadeColor : photo.clear }
        }
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            orientation: Gradient.Vertical
            GradientStop { position: 0; color: photo.topFade > 0 ? photo.fadeColor : photo.clear }
            GradientStop { position: photo.topFade; color: photo.clear }
            GradientStop { position: photo.bottomFade; color: photo.clear }
            GradientStop { position: 1; color: photo.bottomFade < 1 ? photo.fadeColor : photo.clear }
        }
    }
}
