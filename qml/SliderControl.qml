import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts
import DDC 1.0
// Qt 6.4 does not make this module's C++ value types visible through the
// implicit import of the module's own directory.
import Varno

RowLayout {
    id: control

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
        // As a dial does: after the report, the value handed in, also when it
        // is the one it already had because the write was refused.
        onMoved: {
            report.send(ddcValue, value);
            value = Qt.binding(() => ddcValue.value);
        }
    }

    // A value-type signal argument is a copy of its own, so the report is made
    // in one: a write into ddcValue itself would cut it off from the binding
    // that feeds it, and the slider would stop following its input.
    QtObject {
        id: report

        // The int parameter drops the position's fraction.
        signal send(copy: ddcValue, position: int)

        onSend: (copy, position) => {
            copy.value = position;
            control.changed(copy);
        }
    }
}
