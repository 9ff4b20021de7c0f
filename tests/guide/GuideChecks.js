// Walks of the item tree shared by the guide page tests.
.pragma library

// Every item below `item` (itself included) for which `test` holds.
function collect(item, test, found) {
    found = found || []
    if (test(item))
        found.push(item)
    for (let i = 0; i < item.children.length; ++i)
        collect(item.children[i], test, found)
    return found
}

// Pictures that did not load, by their source.
function brokenPictures(item) {
    return collect(item, it => it.hasOwnProperty("fillMode") && it.hasOwnProperty("status")
                               && it.source !== undefined && it.status !== 1 /* Image.Ready */)
        .map(it => String(it.source))
}

// Texts cut short: elided on their one line or beyond their last line.
function cutTexts(item) {
    return collect(item, it => it.hasOwnProperty("truncated") && it.truncated && it.visible)
        .map(it => it.text)
}

// Hides whatever could cover `item` on screen (its later siblings and raised items, up to the
// top) and returns what it hid, for show().
function uncover(item) {
    const hidden = []
    for (let child = item; child.parent; child = child.parent) {
        const siblings = child.parent.children
        let after = false
        for (let i = 0; i < siblings.length; ++i) {
            const other = siblings[i]
            if (other === child)
                after = true
            else if ((after || other.z > child.z) && other.visible) {
                other.visible = false
                hidden.push(other)
            }
        }
    }
    return hidden
}

function show(items) {
    items.forEach(it => it.visible = true)
}

function near(actual, expected, tolerance) {
    const a = Qt.color(actual)
    const e = Qt.color(expected)
    return Math.abs(a.r - e.r) + Math.abs(a.g - e.g) + Math.abs(a.b - e.b) <= tolerance
}

// Checks a faded picture on screen: the middle of each edge it fades at shows `backdrop`, the
// middle of each sharp edge shows the picture. `scene` is the test's root item at the window's
// top left corner.
function expectFades(test, scene, photo, backdrop) {
    const hidden = uncover(photo)
    test.waitForRendering(photo)
    const image = test.grabImage(scene)
    show(hidden)
    const w = photo.width
    const h = photo.height
    const edges = [
        { name: "left", faded: photo.leftFade > 0, x: 1, y: h / 2 },
        { name: "right", faded: photo.rightFade < 1, x: w - 1, y: h / 2 },
        { name: "top", faded: photo.topFade > 0, x: w / 2, y: 1 },
        { name: "bottom", faded: photo.bottomFade < 1, x: w / 2, y: h - 1 },
    ]
    for (const edge of edges) {
        const at = photo.mapToItem(scene, edge.x, edge.y)
        const pixel = image.pixel(Math.floor(at.x), Math.floor(at.y))
        const what = photo.source + " " + edge.name + " edge: " + pixel
        if (edge.faded)
            test.verify(near(pixel, backdrop, 0.05), what)
        else
            test.verify(!near(pixel, backdrop, 0.05), what)
    }
}
