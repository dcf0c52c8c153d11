; Taluna: Modular slave (up to 8 I/O modules)
#Profibus_DP
; General keys
GSD_Revision = 2
Vendor_Name = "Velmar"
Model_Name = "Modular Slave"
Revision = "V1.0"
Ident_Number = 0x4712
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
3M_supp = 1
6M_supp = 1
12M_supp = 1
MaxTsdr_9.6 = 60
MaxTsdr_19.2 = 60
MaxTsdr_93.75 = 60
MaxTsdr_187.5 = 60
MaxTsdr_500 = 100
MaxTsdr_1.5M = 150
MaxTsdr_3M = 250
MaxTsdr_6M = 450
MaxTsdr_12M = 800
Redundancy = 0
Repeater_Ctrl_Sig = 2
24V_Pins = 0
Implementation_Type = "SPC3"
; Slave keys
Freeze_Mode_supp = 1
Sync_Mode_supp = 1
Auto_Baud_supp = 1
Set_Slave_Add_supp = 0
Min_Slave_Intervall = 1
Modular_Station = 1
Max_Module = 8
Max_Input_Len = 64
Max_Output_Len = 64
Max_Data_Len = 128
Max_Diag_Data_Len = 16
User_Prm_Data_Len = 0
Slave_Family = 3
; Modules
Module = "8 Digital In" 0x10
EndModule
Module = "8 Digital Out" 0x20
EndModule
Module = "16 Digital In" 0x11
EndModule
Module = "16 Digital Out" 0x21
EndModule
Module = "2 Analog In (words)" 0x51
EndModule
Module = "2 Analog Out (words)" 0x61
EndModule
