+ flakeCoat 1.0 .
PLUG_IN_PATH +:= plug-ins
MAYA_SCRIPT_PATH +:= scripts
