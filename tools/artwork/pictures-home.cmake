# Pictures of the home screen and the application icon.
list(APPEND artwork_files
    images/icon.png
    images/FirstScreen.png
    images/bluetooth_mark.png
    images/customize_mark.png
    app_icon.ico)
