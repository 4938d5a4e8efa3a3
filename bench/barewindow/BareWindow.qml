import QtQuick
import QtQuick.Window
import QtQuick.Controls
import QtQuick.Layouts

// Varno's window with its controls written out, and nothing behind them.
Window {
    width: 640
    height: 480
    visible: true
    title: "Bare window"

    ColumnLayout {
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 20

        RowLayout {
            spacing: 6

            Label {
                text: "Monitor: "
            }

            ComboBox {
                model: ["Aster 27Q", "Lumen 24F"]
                Layout.fillWidth: true
            }
        }

        RowLayout {
            ColumnLayout {
                Label {
                    text: "Brightness"
                    Layout.alignment: Qt.AlignCenter
                }

                Dial {
                    to: 100
                    value: 50
                }
            }

            ColumnLayout {
                Label {
                    text: "Contrast"
                    Layout.alignment: Qt.AlignCenter
                }

                Dial {
                    to: 100
                    value: 50
                }
            }

            ColumnLayout {
                Layout.alignment: Qt.AlignTop
                Layout.leftMargin: 50

                Label {
                    text: "RGB Drive"
                    Layout.alignment: Qt.AlignHCenter | Qt.AlignTop
                }

                RowLayout {
                    Label {
                        text: "Red"
                        Layout.preferredWidth: 50
                    }

                    Slider {
                        to: 255
                        value: 128
                    }
                }

                RowLayout {
                    Label {
                        text: "Green"
                        Layout.preferredWidth: 50
                    }

                    Slider {
                        to: 255
                        value: 128
                    }
                }

                RowLayout {
                    Label {
                        text: "Blue"
                        Layout.preferredWidth: 50
                    }

                    Slider {
                        to: 255
                        value: 128
                    }
                }
            }

            ColumnLayout {
                Layout.alignment: Qt.AlignTop
                Layout.leftMargin: 50

                Label {
                    text: "RGB Gain"
                    Layout.alignment: Qt.AlignHCenter | Qt.AlignTop
                }

                RowLayout {
                    Label {
                        text: "Red"
                        Layout.preferredWidth: 50
                    }

                    Slider {
                        to: 255
                        value: 128
                    }
                }

                RowLayout {
                    Label {
                        text: "Green"
                        Layout.preferredWidth: 50
                    }

                    Slider {
                        to: 255
                        value: 128
                    }
                }

                RowLayout {
                    Label {
                        text: "Blue"
                        Layout.preferredWidth: 50
                    }

                    Slider {
                        to: 255
                        value: 128
                    }
                }
            }
        }

        Label {
            text: "Manufacturer: "
        }

        Label {
            text: "Serial number: "
        }
    }
}
