import QtQuick

// The fixed design canvas every page lays itself out on, scaled onto the area it is placed in
// (its parent). By default it is stretched to fill the area exactly, so positions given in
// design pixels line up with the page's background picture whatever the window's shape.
// With keepsAspect it is centred and scaled uniformly instead, letting the background show
// beside or above and below it.
Item {
    id: canvas

    property int designWidth: 1920
    property int designHeight: 1080
    property bool keepsAspect: false

    readonly property real areaWidth: parent ? parent.width : designWidth
    readonly property real areaHeight: parent ? parent.height : designHeight
    readonly property point scaleFactors: scaleFor(areaWidth, areaHeight)

    // Horizontal and vertical factors that map the canvas onto an area of the given size.
    function scaleFor(areaW, areaH) {
        const sx = areaW / designWidth
        const sy = areaH / designHeight
        if (keepsAspect) {
            const s = Math.min(sx, sy)
            return Qt.point(s, s)
        }
        return Qt.point(sx, sy)
    }

    width: designWidth
    height: designHeight
    x: keepsAspect ? (areaWidth - designWidth) / 2 : 0
    y: keepsAspect ? (areaHeight - designHeight) / 2 : 0

    transform: Scale {
        origin.x: canvas.keepsAspect ? canvas.width / 2 : 0
        origin.y: canvas.keepsAspect ? canvas.height / 2 : 0
        xScale: canvas.scaleFactors.x
        yScale: canvas.scaleFactors.y
    }
}
