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

// Texts meant to wrap onto further lines that are cut short all the same.
function cutTexts(item) {
    return collect(item, it => it.hasOwnProperty("truncated") && it.truncated && it.visible
                               && it.wrapMode !== 0 /* Text.NoWrap */)
        .map(it => it.text)
}
