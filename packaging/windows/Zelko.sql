-- What wixl (msitools 0.101) cannot write from Zelko.wxs, applied to its
-- package by msibuild, one statement per line; lines starting "--" are skipped.
--
-- The files in C:\: only on Windows 8 and later, made where absent, never
-- overwritten (NeverOverwrite 128) and never removed (Permanent 16).
UPDATE `Component` SET `Attributes` = 144, `Condition` = 'VersionNT >= 602' WHERE `Directory_` = 'ZELKO_C_ROOT'
-- Write rights for authenticated users, by SID.
CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL, `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL, `SDDLText` LONGCHAR NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)
INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('WriteScontrinoInp', 'SCONTRINO.INP', 'File', 'D:(A;;FA;;;S-1-5-18)(A;;FA;;;S-1-5-32-544)(A;;0x12019f;;;S-1-5-11)')
INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('WriteScontrinoOut', 'SCONTRINO.OUT', 'File', 'D:(A;;FA;;;S-1-5-18)(A;;FA;;;S-1-5-32-544)(A;;0x12019f;;;S-1-5-11)')
INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('WriteJQTZelkoDataOut', 'JQTZelkoData.OUT', 'File', 'D:(A;;FA;;;S-1-5-18)(A;;FA;;;S-1-5-32-544)(A;;0x12019f;;;S-1-5-11)')
INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`, `SDDLText`) VALUES ('WriteZelkoPluTxt', 'ZELKOPLU.TXT', 'File', 'D:(A;;FA;;;S-1-5-18)(A;;FA;;;S-1-5-32-544)(A;;0x12019f;;;S-1-5-11)')
--
-- config.cmd is never overwritten and never removed by its own component, so
-- an edited one survives an upgrade; the loader's component removes it when
-- Zelko itself is removed (an upgrade keeps that component, shared by both
-- versions, and runs the older version's removal last).
UPDATE `Component` SET `Attributes` = 144 WHERE `Component` = 'ConfigCmd'
INSERT INTO `RemoveFile` (`FileKey`, `Component_`, `FileName`, `DirProperty`, `InstallMode`) VALUES ('RemoveConfigCmd', 'PLUZELKO', 'config.cmd', 'INSTALLDIR', 2)
UPDATE `InstallExecuteSequence` SET `Sequence` = 6550 WHERE `Action` = 'RemoveExistingProducts'
--
-- Features: the service on Windows 7 and later; the start at logon and the
-- stand-in control when asked for (or chosen before); the stand-in's ProgID
-- follows the stand-in, but never where another control has the ProgID: not
-- written then, and not removed once another control has taken it over.
CREATE TABLE `Condition` (`Feature_` CHAR(38) NOT NULL, `Level` SHORT NOT NULL, `Condition` CHAR(255) PRIMARY KEY `Feature_`, `Level`)
INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('ZelkoService', 0, 'VersionNT < 601')
INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('AvvioAutomatico', 1, 'AVVIO_AUTOMATICO = "1"')
INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('RegistratoreProva', 1, 'REGISTRATORE_PROVA = "1"')
INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('RegistratoreProvaProgId', 0, 'MAKER_CLSID AND MAKER_CLSID <> "{4B30B652-9D9A-4560-B8F8-8948A0ADC538}"')
UPDATE `Feature` SET `Attributes` = 2 WHERE `Feature` = 'RegistratoreProvaProgId'
UPDATE `Component` SET `Condition` = 'NOT MAKER_CLSID OR MAKER_CLSID = "{4B30B652-9D9A-4560-B8F8-8948A0ADC538}"' WHERE `Component` = 'StandInProgId'
--
-- The choices and the folder reach the elevated part of an install.
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;MAKER_CLSID;REGISTRATORE_PROVA;AVVIO_AUTOMATICO;INSTALLDIR' WHERE `Property` = 'SecureCustomProperties'
