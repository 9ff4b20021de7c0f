import QtQuick

// The turning ring that says "still working": one turn every 800 ms for as long as it shows.
Image {
    id: spinner

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
