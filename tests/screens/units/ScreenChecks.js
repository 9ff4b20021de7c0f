// Small checks shared by the screen tests.
.pragma library

// Colours compared at the 8-bit precision the items store them with.
function sameColour(actual, expected) {
    const a = Qt.color(actual)
    const e = Qt.color(expected)
    const near = (x, y) => Math.abs(x - y) <= 1 / 255 + 1e-6
    return near(a.r, e.r) && near(a.g, e.g) && near(a.b, e.b) && near(a.a, e.a)
}

// Clicks one of a dialog's standard buttons. They are laid out on the first frame after the
// dialog opens; until then they all sit in the same place.
function pressDialogButton(test, dialog, which) {
    test.waitForItemPolished(dialog.footer.contentItem)
    test.mouseClick(dialog.standardButton(which))
}
