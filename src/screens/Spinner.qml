import QtQuick

// The turning ring that says "still working": one turn every 800 ms for as long as it shows.
Item {
    id: spinner

    // The ring turns inside a layer of its own. Turned among the page's other pictures, it would
    // make the scene graph regroup everything drawn on the page on every frame, and each
    // regrouping leaves the reused vertex buffers a little larger: memory that the page's
    // connecting rows took and no later page gave back.
    layer.enabled: true
    layer.smooth: true

    Image {
        anchors.fill: parent
        source: "images/spin.svg"
        sourceSize.width: width
        sourceSize.height: height
        fillMode: Image.PreserveAspectFit

        RotationAnimation on rotation {
            from: 0
            to: 360
            duration: 800
            loops: Animation.Infinite
            running: spinner.visible
        }
    }
}
