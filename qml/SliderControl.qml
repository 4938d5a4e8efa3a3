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
    // The caption before the slider: its value's name, unless its user gives
    // another.
    property string caption: ddcValue.name
    // What assistive technology calls the slider.
    property string accessibleName: caption

    signal changed(newValue: ddcValue)

    Label {
        text: control.caption
        Layout.preferredWidth: 50
    }

    Slider {
        id: slider

        // Held by a pointer (until it lets go, which may move the slider once
        // more) rather than by a key.
        property bool held: false

        from: ddcValue.minimum
        to: ddcValue.maximum
        value: ddcValue.value
        // A key press or a wheel notch moves one unit. Dragging stays
        // continuous: a step size would round where the pointer puts the slider.
        stepSize: held ? 0 : 1
        wheelEnabled: true
        Accessible.name: control.accessibleName
        onPressedChanged: if (!pressed) held = false
        // As a dial does: a move within the unit handed in writes nothing;
        // after the report, the slider shows the value handed in, also when it
        // is the one it already had because the write was refused.
        onMoved: {
            if (Math.trunc(value) !== ddcValue.value)
                report.send(ddcValue, value);
            value = Qt.binding(() => ddcValue.value);
        }

        PointHandler {
            onActiveChanged: if (active) slider.held = true
        }

        ToolTip {
            parent: slider.handle
            // Shown and hidden by its binding alone: a click away from the
            // handle would close it for good while the pointer stays.
            closePolicy: Popup.NoAutoClose
            visible: slider.enabled && (slider.hovered || slider.pressed || slider.activeFocus)
            text: Math.trunc(slider.value)
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
