; Taluna: Compact slave (fixed inputs and outputs, no modules)
#Profibus_DP
; General keys
GSD_Revision = 1
Vendor_Name = "Velmar"
Model_Name = "Compact Slave"
Revision = "V1.0"
Ident_Number = 0x4711
Protocol_Ident = 0
Station_Type = 0
FMS_supp = 0
Hardware_Release = "V1.0"
Software_Release = "V1.0"
9.6_supp = 1
19.2_supp = 1
93.75_supp = 1
187.5_supp = 1
500_supp = 1
1.5M_supp = 1
MaxTsdr_9.6 = 60
MaxTsdr_19.2 = 60
MaxTsdr_93.75 = 60
MaxTsdr_187.5 = 60
MaxTsdr_500 = 100
MaxTsdr_1.5M = 150
Redundancy = 0
Repeater_Ctrl_Sig = 2
24V_Pins = 0
; Slave keys
Freeze_Mode_supp = 1
Sync_Mode_supp = 1
Auto_Baud_supp = 1
Set_Slave_Add_supp = 0
Min_Slave_Intervall = 6
Modular_Station = 0
Max_Diag_Data_Len = 6
User_Prm_Data_Len = 0
; The one fixed configuration: 2 bytes in, 2 bytes out
Module = "2 Byte In, 2 Byte Out" 0x11,0x21
EndModule
