import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
// Qt 6.4 does not make this module's C++ value types visible through the
// implicit import of the module's own directory.
import Varno

RowLayout {
    property ddcValue ddcValue

    signal changed(newValue: ddcValue)

    Label {
        text: ddcValue.name
        Layout.preferredWidth: 50
    }

    Slider {
        from: ddcValue.minimum
        to: ddcValue.maximum
        value: ddcValue.value
        onMoved: {
            // Qt 6.4 rounds a real number written into a uint; the fraction
            // must be dropped.
            ddcValue.value = Math.trunc(value);
            changed(ddcValue);
        }
    }
}
