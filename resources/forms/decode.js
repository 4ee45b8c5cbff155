// Called when a sent message is shown: keep its line breaks and columns as they were written.
function MainDecode() {
    document.body.style.whiteSpace = "pre-wrap";
    document.body.style.fontFamily = "monospace";
}
