import QtQuick
import QtQuick.Window

// A root component that cannot be created, standing in for Main: the program
// must end at once.
Window {
    visible: true
    title: qsTr("ZOD ID IDA")

    TypeThatDoesNotExist {}
}
