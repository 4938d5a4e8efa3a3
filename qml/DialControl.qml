import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
// Qt 6.4 does not make this module's C++ value types visible through the
// implicit import of the module's own directory.
import Varno

ColumnLayout {
    property ddcValue ddcValue

    signal setValue(newValue: int)

    Label {
        text: ddcValue.name
        Layout.alignment: Qt.AlignCenter
    }

    Dial {
        from: ddcValue.minimum
        to: ddcValue.maximum
        value: ddcValue.value
        // The move is written or refused before setValue returns; then the
        // dial shows the value handed in. After a refusal that value is the
        // one it already had, which would not reach the dial by itself.
        onMoved: {
            setValue(value);
            value = Qt.binding(() => ddcValue.value);
        }
    }
}
