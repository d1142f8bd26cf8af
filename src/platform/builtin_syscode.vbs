' The built-in system script: helper procedures that every template can call.
' Generation adds this code to the engine's System module when no system script
' description is configured.
